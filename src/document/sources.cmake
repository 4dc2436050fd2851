# SPDX-License-Identifier: GPL-3.0-or-later
target_sources(lumaset_engine PRIVATE
  document/backup_store.cpp
  document/host.h
  document/lumaset_doc.cpp
  document/lumaset_doc.h
)
