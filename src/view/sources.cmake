# SPDX-License-Identifier: GPL-3.0-or-later
# edit and transform routines
target_sources(lumaset_engine PRIVATE
  view/transforms.cpp
)
