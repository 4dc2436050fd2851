# SPDX-License-Identifier: GPL-3.0-or-later
target_sources(lumaset_engine PRIVATE
  core/selection/flood_fill.cpp
  core/selection/selection_commands.cpp
  core/selection/selection_mask.cpp
  core/selection/selection_path.cpp
  core/selection/selection_region.cpp
  core/selection/tracing.cpp
)
