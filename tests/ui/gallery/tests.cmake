# SPDX-License-Identifier: GPL-3.0-or-later
# Widget tests drive the real gallery under the offscreen platform; they need a
# QApplication, so this program has its own main.
find_package(Qt6 REQUIRED COMPONENTS Test)
add_executable(test_gallery ui/gallery/effect_dlg_test.cpp)
target_link_libraries(test_gallery PRIVATE lumaset_gallery lumaset_testing Qt6::Test GTest::gtest)
gtest_discover_tests(test_gallery DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
