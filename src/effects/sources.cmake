# SPDX-License-Identifier: GPL-3.0-or-later
target_sources(lumaset_engine PRIVATE
  effects/blur_sharpen.cpp
  effects/colour_formulas.cpp
  effects/effect_frame.cpp
  effects/effect_table.cpp
  effects/stylize.cpp
)
target_sources(lumaset_engine PRIVATE
  effects/distort.cpp
  effects/noise_redeye_lomo.cpp
  effects/oil_paint.cpp
  effects/rain_drops.cpp
  effects/texture.cpp
)
