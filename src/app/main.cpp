// SPDX-License-Identifier: GPL-3.0-or-later
// lumaset: the desktop editor.
#include "app/lumaset_app.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    CLumasetApp app;
    if (!app.InitInstance(QApplication::arguments())) return 1;
    return QApplication::exec();
}
