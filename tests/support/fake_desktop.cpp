// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/fake_desktop.h"

namespace solandre::testing {

QString ScriptedDialogs::next(const QString& filter)
{
    filters.push_back(filter);
    if (fileNames.empty()) return {};
    QString name = fileNames.front();
    fileNames.pop_front();
    return name;
}

SaveChoice ScriptedDialogs::saveFileOfType(QWidget*, const QString& filter)
{
    SaveChoice choice{next(filter), 0};
    if (!fileTypes.empty()) {
        choice.type = fileTypes.front();
        fileTypes.pop_front();
        return choice;
    }
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 1; i < parts.size(); i += 2)
        if (choice.name.endsWith(parts[i].mid(1), Qt::CaseInsensitive)) choice.type = i / 2;
    return choice;
}

Answer ScriptedDialogs::message(QWidget*, const Message& message)
{
    shown.push_back(message);
    if (message.buttons == Buttons::Ok) return Answer::Ok;
    if (answers.empty()) return Answer::Yes;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::pair<QString, QString>> ScriptedDialogs::chooseLanguages(QWidget*, const QStringList& offered,
                                                                            const QString& source,
                                                                            const QString& target)
{
    languagesOffered.push_back(offered);
    if (languages.empty()) return std::pair{source, target};
    const bool chosen = languages.front().has_value();
    const std::pair<QString, QString> answer = chosen ? *languages.front() : std::pair<QString, QString>();
    languages.pop_front();
    if (!chosen) return std::nullopt;
    return answer;
}

void RecordingPrinter::setFont(const PrinterFont& font)
{
    font_ = font;
    log.push_back(QStringLiteral("font %1 %2%3%4")
                      .arg(font.name)
                      .arg(font.size)
                      .arg(font.bold ? QStringLiteral(" bold") : QString())
                      .arg(font.underline ? QStringLiteral(" underline") : QString()));
}

void RecordingPrinter::setX(int twips) { log.push_back(QStringLiteral("x %1").arg(twips)); }

void RecordingPrinter::print(const QString& text, bool endLine)
{
    log.push_back(QStringLiteral("print '%1' %2").arg(text, endLine ? "line" : "stay"));
}

bool RecordingPrinter::endDocument()
{
    log.push_back(QStringLiteral("end"));
    return !failAtEnd;
}

std::optional<RegistryValue> FakeRegistry::read(const QString& key, const QString& name)
{
    const auto it = values.find({key, name});
    if (it == values.end()) return std::nullopt;
    return it->second;
}

bool FakeLauncher::start(const QString& program)
{
    started.push_back(program);
    return startSucceeds;
}

} // namespace solandre::testing
