# SPDX-License-Identifier: GPL-3.0-or-later
lumaset_test(test_texture
  effects/distort_test.cpp
  effects/noise_redeye_lomo_test.cpp
  effects/rain_drops_test.cpp
  effects/texture_cli_test.cpp
  effects/texture_oracles.cpp
  effects/texture_selection_test.cpp
  effects/texture_test.cpp
)
add_dependencies(test_texture lumaset-cli)
