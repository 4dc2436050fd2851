# SPDX-License-Identifier: GPL-3.0-or-later
lumaset_test(test_effects
  effects/effect_frame_test.cpp
)
