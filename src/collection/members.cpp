// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/members.h"

#include <QDir>
#include <QDirIterator>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <set>

namespace solandre {
namespace {

const QString kSourceEnding = QStringLiteral("_source_ref.txt");
const QString kTargetEnding = QStringLiteral("_cible_ref.txt");

bool isLanguageTag(const QString& tag)
{
    static const QRegularExpression shape(QStringLiteral("^([A-Za-z]{2,3})([-_][A-Za-z0-9]{2,8})*$"));
    const QRegularExpressionMatch m = shape.match(tag);
    // "on", "off", "ref" have the shape of a tag; only a language Qt knows is one.
    return m.hasMatch() && QLocale::codeToLanguage(m.captured(1)) != QLocale::AnyLanguage;
}

// The kind a name ranks in when two members would share one name.
int rank(MemberKind kind) { return int(kind); }

QString withoutSuffix(const QString& path, qsizetype length) { return path.left(path.size() - length); }

} // namespace

QString languageOfName(const QString& fileName, QString* stem)
{
    if (!fileName.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive)) return {};
    const QString base = fileName.left(fileName.size() - 4);
    for (const QChar separator : {QChar('.'), QChar('_')}) {
        const qsizetype at = base.lastIndexOf(separator);
        if (at <= 0) continue;
        const QString tag = base.mid(at + 1);
        if (!isLanguageTag(tag)) continue;
        if (stem) *stem = base.left(at);
        return tag;
    }
    return {};
}

FolderScan scanFolder(const QString& given, const QString& sourceLanguage)
{
    FolderScan scan;
    // Names relative to the folder only come out of absolute paths.
    const QString folder = QFileInfo(given).absoluteFilePath();
    const QDir root(folder);
    std::map<QString, QString> numberedSources, numberedTargets;        // name -> path
    std::map<QString, std::map<QString, QString>> plain;                // name -> language -> path
    std::vector<Member> candidates;

    QDirIterator files(folder, QDir::Files, QDirIterator::Subdirectories);
    std::vector<QString> paths;
    while (files.hasNext()) paths.push_back(files.next());
    std::sort(paths.begin(), paths.end());
    for (const QString& path : paths) {
        const QString relative = root.relativeFilePath(path);
        const QString fileName = QFileInfo(path).fileName();
        const QString suffix = QFileInfo(path).suffix().toLower();
        if (relative.endsWith(kSourceEnding, Qt::CaseInsensitive)) {
            numberedSources[withoutSuffix(relative, kSourceEnding.size())] = path;
        } else if (relative.endsWith(kTargetEnding, Qt::CaseInsensitive)) {
            numberedTargets[withoutSuffix(relative, kTargetEnding.size())] = path;
        } else if (suffix == QStringLiteral("tmx") || suffix == QStringLiteral("tsv")) {
            Member m;
            m.name = withoutSuffix(relative, suffix.size() + 1);
            m.kind = suffix == QStringLiteral("tmx") ? MemberKind::Memory : MemberKind::Table;
            m.source = path;
            candidates.push_back(m);
        } else if (suffix == QStringLiteral("txt")) {
            QString stem;
            const QString language = languageOfName(fileName, &stem);
            if (language.isEmpty()) {
                scan.setAside.push_back({relative, QStringLiteral("un texto sin lengua en el nombre "
                                                                  "(NOMBRE.es.txt, NOMBRE_es.txt)")});
                continue;
            }
            const QString dir = QFileInfo(relative).path();
            const QString name = dir == QStringLiteral(".") ? stem : dir + '/' + stem;
            plain[name][language] = path;
        } else {
            scan.setAside.push_back({relative, QStringLiteral("no es un miembro de una colección "
                                                              "(solo .txt, .tmx y .tsv)")});
        }
    }

    for (const auto& [name, path] : numberedSources) {
        const auto target = numberedTargets.find(name);
        if (target == numberedTargets.end()) {
            scan.setAside.push_back({root.relativeFilePath(path),
                                     QStringLiteral("falta %1").arg(QFileInfo(name + kTargetEnding).fileName())});
            continue;
        }
        Member m;
        m.name = name;
        m.kind = MemberKind::NumberedPair;
        m.source = path;
        m.target = target->second;
        candidates.push_back(m);
    }
    for (const auto& [name, path] : numberedTargets)
        if (!numberedSources.count(name))
            scan.setAside.push_back({root.relativeFilePath(path),
                                     QStringLiteral("falta %1").arg(QFileInfo(name + kSourceEnding).fileName())});

    // The source language of the plain pairs: the one asked for, or the one
    // most of them hold, so that one collection reads in one direction.
    QString source = sourceLanguage.toLower().replace('_', '-');
    if (source.isEmpty()) {
        std::map<QString, int> held;
        for (const auto& [name, languages] : plain)
            if (languages.size() >= 2)
                for (const auto& [language, path] : languages) ++held[language.toLower().replace('_', '-')];
        int most = 0;
        for (const auto& [language, count] : held)
            if (count > most) most = count, source = language;
    }
    for (const auto& [name, languages] : plain) {
        if (languages.size() < 2) {
            scan.setAside.push_back({root.relativeFilePath(languages.begin()->second),
                                     QStringLiteral("falta el texto en la otra lengua")});
            continue;
        }
        auto first = languages.begin();
        for (auto it = languages.begin(); it != languages.end(); ++it)
            if (it->first.toLower().replace('_', '-') == source) first = it;
        auto second = first == languages.begin() ? std::next(languages.begin()) : languages.begin();
        Member m;
        m.name = name;
        m.kind = MemberKind::PlainPair;
        m.source = first->second;
        m.target = second->second;
        m.sourceLanguage = first->first;
        m.targetLanguage = second->first;
        candidates.push_back(m);
        for (auto it = languages.begin(); it != languages.end(); ++it)
            if (it != first && it != second)
                scan.setAside.push_back({root.relativeFilePath(it->second),
                                         QStringLiteral("una tercera lengua de %1").arg(name)});
    }

    // One member per name: a numbered pair before the memory it came from.
    std::stable_sort(candidates.begin(), candidates.end(), [](const Member& a, const Member& b) {
        return a.name != b.name ? a.name < b.name : rank(a.kind) < rank(b.kind);
    });
    for (const Member& m : candidates) {
        if (!scan.members.empty() && scan.members.back().name == m.name) {
            scan.setAside.push_back({root.relativeFilePath(m.source),
                                     QStringLiteral("otro miembro se llama ya %1").arg(m.name)});
            continue;
        }
        scan.members.push_back(m);
    }
    std::sort(scan.setAside.begin(), scan.setAside.end(),
              [](const SetAside& a, const SetAside& b) { return a.path < b.path; });
    return scan;
}

} // namespace solandre
