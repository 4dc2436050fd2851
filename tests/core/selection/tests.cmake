# SPDX-License-Identifier: GPL-3.0-or-later
lumaset_test(test_selection
  core/selection/flood_fill_test.cpp
  core/selection/region_test.cpp
  core/selection/tracing_test.cpp
)
