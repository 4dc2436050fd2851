# SPDX-License-Identifier: GPL-3.0-or-later
# The command table and the common image-command sequence (engine code).
target_sources(lumaset_engine PRIVATE
  view/command.h
  view/command_table.cpp
  view/effect_commands.cpp
  view/run_effect.cpp
)
# edit and transform routines
target_sources(lumaset_engine PRIVATE
  view/adjust_commands.cpp
  view/edit_commands.cpp
  view/transforms.cpp
)
