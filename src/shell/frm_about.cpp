#include "shell/frm_about.h"

#include "core/app_info.h"
#include "shell/twips_screen.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace brindle {

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent), m_picIcon(new QLabel(this)), m_lblTitle(new QLabel(this)),
      m_lblVersion(new QLabel(this)), m_cmdOK(new QPushButton(QStringLiteral("OK"), this)) {
    setWindowTitle(QStringLiteral("バージョン情報"));
    // No minimise or maximise button; the close box acts as OK.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_lblTitle->setObjectName(QStringLiteral("lblTitle"));
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));

    const TwipsPerPixel tpp = ScreenTwipsPerPixel(this);
    const auto px = [&tpp](double l, double t, double w, double h) {
        return QRect(TwipsToPixels(l, tpp.x), TwipsToPixels(t, tpp.y), TwipsToPixels(w, tpp.x),
                     TwipsToPixels(h, tpp.y));
    };
    setFixedSize(TwipsToPixels(5235, tpp.x), TwipsToPixels(2055, tpp.y));

    m_picIcon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    m_picIcon->setGeometry(px(240, 240, 480, 480));

    QFont titleFont(QStringLiteral("ＭＳ ゴシック"));
    titleFont.setPointSizeF(15.75);
    m_lblTitle->setFont(titleFont);
    m_lblTitle->setGeometry(px(1050, 240, 3885, 480));
    m_lblVersion->setGeometry(px(1050, 780, 3885, 225));
    m_cmdOK->setGeometry(px(3600, 1500, 1380, 345));
    m_cmdOK->setDefault(true);

    // Form_Load
    m_lblVersion->setText(VersionText());
    m_lblTitle->setText(AppTitle());

    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace brindle
