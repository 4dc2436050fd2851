# SPDX-License-Identifier: GPL-3.0-or-later
lumaset_test(test_transforms
  commands/commands_cli_test.cpp
  commands/clipboard_test.cpp
  commands/dialog_models_test.cpp
  commands/recipe_test.cpp
  commands/shared_pixels_test.cpp
)
add_dependencies(test_transforms lumaset-cli)
