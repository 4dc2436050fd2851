# SPDX-License-Identifier: GPL-3.0-or-later
lumaset_test(test_cli cli/cli_test.cpp cli/cli_settings_test.cpp)
add_dependencies(test_cli lumaset-cli)
# A few kills of a real process on a small picture; the 24-megapixel run is by hand.
add_test(NAME recovery_kill_test
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/recovery/kill_test.sh $<TARGET_FILE:lumaset-cli> 5 1500x1000)
