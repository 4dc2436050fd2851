# SPDX-License-Identifier: GPL-3.0-or-later
lumaset_test(test_tools
  tools/tool_test_host.cpp
  tools/framework_test.cpp
  tools/drawing_test.cpp
  tools/selection_tools_test.cpp
  tools/view_mapping_test.cpp
)
