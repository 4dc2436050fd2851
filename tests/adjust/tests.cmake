# SPDX-License-Identifier: GPL-3.0-or-later
include(${CMAKE_CURRENT_LIST_DIR}/blend_tests.cmake)
lumaset_test(test_adjust
  adjust/channels_test.cpp
  adjust/curves_test.cpp
  adjust/tone_test.cpp
  adjust/transforms_test.cpp
)
