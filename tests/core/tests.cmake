# SPDX-License-Identifier: GPL-3.0-or-later
lumaset_test(test_core
  core/bitmap_test.cpp
  core/params_test.cpp
  core/pixel_loop_test.cpp
  core/runtime_random_test.cpp
  core/text_render_test.cpp
)
