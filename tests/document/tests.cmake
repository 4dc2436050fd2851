# SPDX-License-Identifier: GPL-3.0-or-later
lumaset_test(test_document
  document/codecs_test.cpp
  document/lumaset_doc_test.cpp
  document/recovery_test.cpp
)
