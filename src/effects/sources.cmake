# SPDX-License-Identifier: GPL-3.0-or-later
target_sources(lumaset_engine PRIVATE
  effects/blur_sharpen.cpp
  effects/colour_formulas.cpp
  effects/effect_frame.cpp
  effects/effect_table.cpp
  effects/distort.cpp
  effects/noise_redeye_lomo.cpp
  effects/oil_paint.cpp
  effects/rain_drops.cpp
  effects/stylize.cpp
  effects/texture.cpp
)
# The pixel loops are written to vectorise; let the compiler do so even where
# it needs a remainder loop or a run-time overlap check.
set_source_files_properties(
  effects/blur_sharpen.cpp
  effects/colour_formulas.cpp
  effects/stylize.cpp
  PROPERTIES COMPILE_OPTIONS "-ftree-vectorize;-fvect-cost-model=dynamic")
