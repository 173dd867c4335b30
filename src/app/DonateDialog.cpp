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

QString DonateDialog::messageText() {
    return centred(
        tr("Sleevanta is <b>free of ads</b> and <b>free of charge</b>. However, to cover the costs "
           "for <i>hosting</i>, <i>maintenance</i>, and <i>coffee</i>, we'd deeply appreciate you "
           "helping us with a small donation."));
}

QString DonateDialog::addressTitleText(bool justCopied) {
    const QString address = QStringLiteral("<b>%1</b>").arg(AppConfig::bitcoinAddress);
    return centred(justCopied ? tr("Copied %1 to Clipboard.").arg(address)
                              : QStringLiteral("bitcoin:%1").arg(address));
}

QString DonateDialog::centred(const QString& html) {
    return QStringLiteral("<div align=\"center\" style=\"font-size:13px\">%1</div>").arg(html);
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
    m_ui->messageTextField->setText(messageText());
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
    m_addressLabel->setText(addressTitleText(justCopied));
    m_ui->copyAddressButton->setAccessibleName(
        justCopied ? tr("Copied %1 to Clipboard.").arg(AppConfig::bitcoinAddress)
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
    const QString title = tr("Donate with &PayPal");
    button->setText(tr("Couldn't open the link"));
    QTimer::singleShot(kCopiedMilliseconds, button, [button, title] { button->setText(title); });
}
