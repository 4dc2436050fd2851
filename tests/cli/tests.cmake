# SPDX-License-Identifier: GPL-3.0-or-later
lumaset_test(test_cli cli/cli_test.cpp cli/cli_settings_test.cpp)
add_dependencies(test_cli lumaset-cli)
