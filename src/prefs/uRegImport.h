#pragma once
// Import of .reg text files ("REGEDIT4" or "Windows Registry Editor Version
// 5.00") into the per-user key tree, and deletion of key trees: what the
// private decoder packages need to install and withdraw their settings.
// Only keys under HKEY_CURRENT_USER (or HKCU) belong to the per-user tree.
// A malformed line is skipped and reported; the rest of the file still lands.

#include "uRegistry.h"

struct TRegImportReport {
    bool ok = false;      // the file was read, its header recognised and the import stored
    int keys = 0;         // key sections entered (created when missing)
    int values = 0;       // values written
    int deletions = 0;    // keys and values deleted
    QStringList problems; // "line N: why", one per skipped line
};

TRegImportReport regImportFile(TRegistryDb &db, const QString &fileName);
TRegImportReport regImportText(TRegistryDb &db, const QString &text);

// Deletes a key with everything below it; the key is given with or without
// its HKEY_CURRENT_USER prefix. Deleting a missing key succeeds.
bool regDeleteKey(TRegistryDb &db, const QString &key);
