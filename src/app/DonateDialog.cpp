#include "app/DonateDialog.h"
#include "library/AppContext.h"
#include "ui_Donate.h"

#include "app/AppConfig.h"
#include "platform/Clipboard.h"
#include "platform/DesktopServices.h"
#include "sources/store/ServiceOrigins.h"

#include <QHBoxLayout>

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <algorithm>

const QList<DonateDialog::Run>& DonateDialog::messageRuns() {
    static const QList<Run> runs{
        {QStringLiteral("Sleevanta is "), RunStyle::Regular},
        {QStringLiteral("free of ads"), RunStyle::Bold},
        {QStringLiteral(" and "), RunStyle::Regular},
        {QStringLiteral("free of charge"), RunStyle::Bold},
        {QStringLiteral(". However, to cover the costs for "), RunStyle::Regular},
        {QStringLiteral("hosting"), RunStyle::Italic},
        {QStringLiteral(", "), RunStyle::Regular},
        {QStringLiteral("maintenance"), RunStyle::Italic},
        {QStringLiteral(", and "), RunStyle::Regular},
        {QStringLiteral("coffee"), RunStyle::Italic},
        {QStringLiteral(", we'd deeply appreciate you helping us with a small donation."),
         RunStyle::Regular},
    };
    return runs;
}

QList<DonateDialog::Run> DonateDialog::addressTitleRuns(bool justCopied) {
    if (justCopied) {
        return {{QStringLiteral("Copied "), RunStyle::Regular},
                {AppConfig::bitcoinAddress, RunStyle::Bold},
                {QStringLiteral(" to Clipboard."), RunStyle::Regular}};
    }
    return {{QStringLiteral("bitcoin:"), RunStyle::Regular},
            {AppConfig::bitcoinAddress, RunStyle::Bold}};
}

QString DonateDialog::richText(const QList<Run>& runs) {
    QString html = QStringLiteral("<div align=\"center\" style=\"font-size:13px\">");
    for (const Run& run : runs) {
        const QString text = run.text.toHtmlEscaped();
        switch (run.style) {
        case RunStyle::Regular:
            html += text;
            break;
        case RunStyle::Bold:
            html += QStringLiteral("<b>") + text + QStringLiteral("</b>");
            break;
        case RunStyle::Italic:
            html += QStringLiteral("<i>") + text + QStringLiteral("</i>");
            break;
        }
    }
    return html + QStringLiteral("</div>");
}

QString DonateDialog::donationUrlText(const ServiceOrigins& origins) {
    return origins.donation + QStringLiteral("/cgi-bin/webscr?cmd=_donations") +
           QStringLiteral("&business=") + AppConfig::donationAccount +
           QStringLiteral("&item_name=Sleevanta%20Donation&currency_code=USD&lc=en_US") +
           QStringLiteral("&country.x=US&locale.x=US");
}

DonateDialog::DonateDialog(AppContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_ui(std::make_unique<Ui::Donate>()) {
    m_ui->setupUi(this);
    m_ui->messageTextField->setText(richText(messageRuns()));
    // A push button shows plain text only: the runs go into a label on it.
    auto* layout = new QHBoxLayout(m_ui->copyAddressButton);
    layout->setContentsMargins(8, 2, 8, 2);
    m_addressLabel = new QLabel(m_ui->copyAddressButton);
    m_addressLabel->setTextFormat(Qt::RichText);
    m_addressLabel->setAlignment(Qt::AlignCenter);
    m_addressLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(m_addressLabel);
    // Wide enough for the longer of the two titles, so neither is cut off.
    setAddressTitle(true);
    const int copiedWidth = m_addressLabel->sizeHint().width();
    setAddressTitle(false);
    m_ui->copyAddressButton->setMinimumWidth(
        std::max(copiedWidth, m_addressLabel->sizeHint().width()) + 24);
    connect(m_ui->copyAddressButton, &QPushButton::clicked, this, &DonateDialog::copyAddress);
    connect(m_ui->donateWithPayPalButton, &QPushButton::clicked, this,
            &DonateDialog::donateWithPayPal);
}

DonateDialog::~DonateDialog() = default;

QString DonateDialog::addressTitle() const {
    return m_addressLabel->text();
}

void DonateDialog::setAddressTitle(bool justCopied) {
    m_addressLabel->setText(richText(addressTitleRuns(justCopied)));
    m_ui->copyAddressButton->setAccessibleName(
        justCopied ? QStringLiteral("Copied %1 to Clipboard.").arg(AppConfig::bitcoinAddress)
                   : QStringLiteral("bitcoin:%1").arg(AppConfig::bitcoinAddress));
}

void DonateDialog::copyAddress() {
    m_context.clipboard().writeText(AppConfig::bitcoinAddress);
    setAddressTitle(true);
    // Each click restores the normal title 1.5 seconds after itself.
    QTimer::singleShot(kCopiedMilliseconds, this, [this] { setAddressTitle(false); });
}

void DonateDialog::donateWithPayPal() {
    const QUrl url =
        QUrl::fromEncoded(donationUrlText(m_context.origins()).toUtf8(), QUrl::StrictMode);
    if (url.isValid() && m_context.desktop().openUrl(url)) {
        return;
    }
    // Said where the user looks, for as long as a copied address is.
    QPushButton* button = m_ui->donateWithPayPalButton;
    const QString title = QStringLiteral("Donate with &PayPal");
    button->setText(QStringLiteral("Couldn't open the link"));
    QTimer::singleShot(kCopiedMilliseconds, button, [button, title] { button->setText(title); });
}
