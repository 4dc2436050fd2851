# SPDX-License-Identifier: GPL-3.0-or-later
lumaset_test(test_transforms
  view/transforms_test.cpp
)
