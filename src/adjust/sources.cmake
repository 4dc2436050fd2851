# SPDX-License-Identifier: GPL-3.0-or-later
target_sources(lumaset_engine PRIVATE
  adjust/blend.cpp
)
# tone and colour adjustments, curves, channel operations, resize
target_sources(lumaset_engine PRIVATE
  adjust/channel_map.cpp
  adjust/channels.cpp
  adjust/curves.cpp
  adjust/resize.cpp
  adjust/tone.cpp
)
