#include "app/application.h"

#include "app/forms/form_names.h"
#include "app/frmAbout.h"
#include "app/frmSplash.h"
#include "app/frmtexte.h"
#include "numbering/Frmreference.h"
#include "numbering/frmnumerotation.h"
#include "search/search_window.h"
#include "viewer/context_viewer.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace solandre {

void defineWindows(FormRegistry& forms)
{
    forms.define(names::frmSplash, [](FormRegistry& f) { return new frmSplash(f); });
    forms.define(names::frmtexte, [](FormRegistry& f) { return new frmtexte(f); });
    forms.define(names::frmAbout, [](FormRegistry& f) { return new frmAbout(f); });
    forms.define(names::frmnumerotation, [](FormRegistry& f) { return new frmnumerotation(f); });
    forms.define(names::Frmreference, [](FormRegistry& f) { return new Frmreference(f); });
    forms.define(names::Frmcontexte,
                 [](FormRegistry& f) { return new SearchWindow(f, kPreparedTextsSearch); });
    forms.define(names::Frmcontexte02,
                 [](FormRegistry& f) { return new SearchWindow(f, kFreshTextsSearch); });
    forms.define(names::frmaff_contexte,
                 [](FormRegistry& f) { return new ContextViewer(f, kPreparedTextsViewer); });
    forms.define(names::frmaff_contexte02,
                 [](FormRegistry& f) { return new ContextViewer(f, kFreshTextsViewer); });
}

void loadSpanishTranslations(QApplication& app)
{
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
}

} // namespace solandre
