# SPDX-License-Identifier: GPL-3.0-or-later
# Widget tests of the effect gallery bar on the offscreen platform, run by the
# widget tests' main() that makes the QApplication.
find_package(Qt6 REQUIRED COMPONENTS Test)
add_executable(test_gallery ui/gallery/effect_dlg_test.cpp view/widget_test_main.cpp)
target_link_libraries(test_gallery PRIVATE lumaset_gallery lumaset_testing Qt6::Test GTest::gtest)
gtest_discover_tests(test_gallery DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS test_gallery)
