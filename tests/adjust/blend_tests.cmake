# SPDX-License-Identifier: GPL-3.0-or-later
lumaset_test(test_blend
  adjust/blend_test.cpp
)
