#pragma once

class QApplication;

// Loads Qt's own Chinese texts so that standard buttons and dialogs read
// "确定" and "取消" like the rest of the program. Returns whether they were
// found; without them the program still runs, in Qt's English.
bool installChineseTranslations(QApplication &app);
