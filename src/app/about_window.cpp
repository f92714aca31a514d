// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about_window.h"

#include "forms/form_names.h"
#include "app/pictures.h"
#include "app/system_info.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace solandre {

AboutWindow::AboutWindow(FormRegistry& forms)
    : Form(forms, QStringLiteral("Quillarne - A propósito de ..."))
{
    setClientSize(7560, 5160);
    titleBanner(120, 120, 7320, 615);

    QLabel* imgLogo = label(client(), QStringLiteral("imgLogo"), QString(), 240, 840, 960, 960);
    imgLogo->setPixmap(pictures::logo(twips(960)));
    QLabel* lblVersion = label(client(), QStringLiteral("lblVersion"),
                               QStringLiteral("Versión 2.0"), 1440, 1080, 3000, 375);
    lblVersion->setFont(timesFont(14, true));

    QGroupBox* Frame1 = frame(client(), QStringLiteral("Frame1"), QStringLiteral("Crédits"), 240,
                              1920, 5400, 2940);
    // Credits of our own: no real names are given.
    struct Line { const char* name; const char* text; int left, top, width; };
    const Line lines[] = {
        {"Label4", "Responsable: ", 120, 360, 1560},
        {"Label5", "Dirección del proyecto Solandre", 1680, 360, 3600},
        {"label3", "Réalisation :", 120, 720, 1560},
        {"Label6", "Equipo de desarrollo de Solandre", 1680, 720, 3840},
        {"Label7", "Taller de lingüística computacional", 120, 1140, 5400},
        {"Label8", "Grupo de traducción asistida", 120, 1440, 5400},
        {"Label9", "Ciudad universitaria", 120, 1740, 5400},
        {"Label10", "Courriel:", 120, 2160, 1560},
        {"Label11", "contacto@solandre.example", 1680, 2160, 3840},
        {"Label12", "Site:", 120, 2520, 1560},
        {"Label13", "https://solandre.example", 1680, 2520, 3840},
    };
    for (const Line& l : lines) {
        QLabel* credit = label(Frame1, QLatin1String(l.name), QString::fromUtf8(l.text), l.left,
                               l.top, l.width, 300);
        credit->setFont(timesFont(10));
    }
    label(client(), QStringLiteral("lblDisclaimer"), QString(), 240, 4860, 5640, 240);

    button(client(), QStringLiteral("cmdOK"), QStringLiteral("OK"), 5820, 1980, 1620, 375,
           [this] { cmdOK_Click(); });
    button(client(), QStringLiteral("cmdSysInfo"), QStringLiteral("&Infos système..."), 5820, 2460,
           1620, 375, [this] { cmdSysInfo_Click(); });
}

void AboutWindow::cmdOK_Click() { forms().unload(names::frmAbout); }

void AboutWindow::cmdSysInfo_Click() { StartSysInfo(desktop(), this); }

} // namespace solandre
