// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/window_fixture.h"

#include "app/application.h"
#include "forms/form.h"
#include "forms/form_names.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace solandre::testing {

void WindowTest::SetUp() { defineWindows(forms); }

void WindowTest::fillMainWindow(const QString& source, const QString& target, const QString& title)
{
    forms.show(names::frmtexte);
    forms.control<QLineEdit>(names::frmtexte, "Text_latin")->setText(source);
    forms.control<QLineEdit>(names::frmtexte, "Text_francais")->setText(target);
    forms.control<QLineEdit>(names::frmtexte, "References")->setText(title);
}

SearchWindow* WindowTest::openPrepared(const QString& source, const QString& target,
                                       const QString& title)
{
    fillMainWindow(source, target, title);
    forms.find(names::frmtexte)->findChild<QAction*>("concordance")->trigger();
    return static_cast<SearchWindow*>(forms.find(names::Frmcontexte));
}

SearchWindow* WindowTest::openFresh(const QString& plainSource, const QString& plainTarget)
{
    fillMainWindow(plainSource, plainTarget, {});
    forms.find(names::frmtexte)->findChild<QAction*>("numconcordance")->trigger();
    forms.find(names::frmnumerotation)->findChild<QPushButton*>("Command2")->click();
    Form* done = forms.find(names::Frmreference);
    if (!done) return nullptr;
    done->findChild<QPushButton*>("Command2")->click();
    return static_cast<SearchWindow*>(forms.find(names::Frmcontexte02));
}

void WindowTest::search(SearchWindow* window, const QString& form)
{
    window->findChild<QLineEdit*>("Text1")->setText(form);
    window->Command1_Click();
}

void WindowTest::typeText(QWidget* widget, const QString& text)
{
    // QTest's own typing knows ASCII only; a key with its text types any.
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

QString WindowTest::total(SearchWindow* window)
{
    return window->findChild<QLabel*>("label4")->text();
}

std::string WindowTest::rows(const SearchWindow* window)
{
    std::string out;
    for (size_t r = 1; r < window->grid().rows(); ++r)
        out += (r > 1 ? " " : "") + std::string(window->grid().text(r, 0)) +
               std::string(window->grid().text(r, 1));
    return out;
}

} // namespace solandre::testing
