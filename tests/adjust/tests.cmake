# SPDX-License-Identifier: GPL-3.0-or-later
lumaset_test(test_adjust
  adjust/channels_test.cpp
  adjust/curves_test.cpp
  adjust/tone_test.cpp
)
include(${CMAKE_CURRENT_SOURCE_DIR}/adjust/blend_tests.cmake OPTIONAL)
