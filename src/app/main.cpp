#include "app/application.h"
#include "forms/form_names.h"
#include "forms/form_registry.h"
#include "platform/qt_desktop.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Solandre"));
    solandre::loadSpanishTranslations(app);

    solandre::QtDesktop desktop;
    solandre::FormRegistry forms(desktop.desktop());
    solandre::defineWindows(forms);
    forms.show(solandre::names::frmSplash);
    return app.exec();
}
