# SPDX-License-Identifier: GPL-3.0-or-later
lumaset_test(test_effects
  effects/blur_sharpen_test.cpp
  effects/selection_coverage_test.cpp
  effects/stylize_test.cpp
)
