// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a folder holds for a collection, told by the names alone: numbered
// pairs as this program writes them (NAME_source_ref.txt with
// NAME_cible_ref.txt), translation memories and bilingual tables (.tmx,
// .tsv), and plain texts named by language (NAME.es.txt with NAME.fr.txt, or
// NAME_es.txt with NAME_fr.txt). Every other file is set aside with a reason.

#include <QString>
#include <vector>

namespace solandre {

enum class MemberKind { NumberedPair, Memory, Table, PlainPair };

struct Member {
    // The path relative to the folder, without the extension and without the
    // "_source_ref" or language ending: "sub/cap1" for "sub/cap1.es.txt".
    QString name;
    MemberKind kind = MemberKind::NumberedPair;
    QString source; // absolute paths; a memory or a table has only `source`
    QString target;
    QString sourceLanguage; // from the names of a plain pair; empty otherwise
    QString targetLanguage;
};

struct SetAside {
    QString path; // relative to the folder
    QString reason;
};

struct FolderScan {
    std::vector<Member> members; // ordered by name
    std::vector<SetAside> setAside;
};

// Walks `folder` and its subfolders (hidden ones and links to folders are
// not followed). `sourceLanguage`, when given, is the source side of the
// plain pairs that hold it; otherwise the language most pairs hold is.
FolderScan scanFolder(const QString& folder, const QString& sourceLanguage = {});

// "es" from "cap1.es.txt" or "cap1_es.txt"; empty when the name ends in no
// language tag. `stem` is set to the name without it.
QString languageOfName(const QString& fileName, QString* stem = nullptr);

} // namespace solandre
