# SPDX-License-Identifier: GPL-3.0-or-later
# Widget tests: the real main window on the offscreen platform, run by the
# widget tests' main() that makes the QApplication.
find_package(Qt6 REQUIRED COMPONENTS Test)
add_executable(test_ui ui/main_frame_test.cpp view/widget_test_main.cpp)
target_link_libraries(test_ui PRIVATE lumaset_testing lumaset_app Qt6::Test GTest::gtest)
gtest_discover_tests(test_ui DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS test_ui)
