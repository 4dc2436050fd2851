// SPDX-License-Identifier: GPL-3.0-or-later
// Opens arbitrary bytes as a picture through the document's own open path,
// which picks the decoder by content, then checks the image and the document agree on its size.
#include "document/lumaset_doc.h"
#include "fuzz_support.h"

#include <QFile>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzSetUp();
    // One document for the whole run, as the editor keeps one while the user
    // opens file after file; each open restarts its history.
    static QuietHost host;
    static CLumasetDoc doc(&host, FuzzScratchFolder() + "/backups");
    const QString path = FuzzScratchFolder() + "/input";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();

    if (doc.OnOpenDocument(path)) {
        Bitmap* image = doc.GetImage();
        if (!image || !image->isValid() || int(image->GetWidth()) != doc.m_nWidth ||
            int(image->GetHeight()) != doc.m_nHeight)
            std::abort();
    }
    return 0;
}
