# SPDX-License-Identifier: GPL-3.0-or-later
target_sources(lumaset_engine PRIVATE
  core/bitmap.cpp
  core/codecs.cpp
  core/encoders.cpp
  core/graphics.cpp
  core/jpeg_codec.cpp
  core/large_image.cpp
  core/params.cpp
  core/png_reader.cpp
  core/png_writer.cpp
  core/runtime_random.cpp
  core/tiff_reader.cpp
)
