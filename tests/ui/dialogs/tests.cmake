# SPDX-License-Identifier: GPL-3.0-or-later
find_package(Qt6 REQUIRED COMPONENTS Test)
lumaset_test(test_dialogs ui/dialogs/dialogs_test.cpp)
target_link_libraries(test_dialogs PRIVATE lumaset_dialogs Qt6::Test)
