# SPDX-License-Identifier: GPL-3.0-or-later
# Widget tests of the canvas view on the offscreen platform; the program's own
# main makes the QApplication the widgets need.
find_package(Qt6 REQUIRED COMPONENTS Test)
add_executable(test_view view/view_test.cpp view/view_tools_test.cpp view/widget_test_main.cpp)
target_link_libraries(test_view PRIVATE lumaset_testing lumaset_view Qt6::Test GTest::gtest)
gtest_discover_tests(test_view DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS test_view)
