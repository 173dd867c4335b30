#pragma once

#include <QList>
#include <QUrl>
#include <QWidget>

#include <memory>

namespace Ui {
class Donate;
}
class QLabel;

// The donation window: a message, a button that copies the donation address
// and one that opens the donation page.
class AppContext;
struct ServiceOrigins;

class DonateDialog : public QWidget {
    Q_OBJECT
public:
    // The message and the address button's title, as centred rich text.
    static QString messageText();
    static QString addressTitleText(bool justCopied);
    static QString donationUrlText(const ServiceOrigins& origins);

    static constexpr int kCopiedMilliseconds = 1500;

    explicit DonateDialog(AppContext& context, QWidget* parent = nullptr);
    ~DonateDialog() override;

    Ui::Donate* ui() const { return m_ui.get(); }
    // The rich text the address button shows now.
    QString addressTitle() const;

    void copyAddress();
    void donateWithPayPal();

private:
    static QString centred(const QString& html);
    void setAddressTitle(bool justCopied);

    AppContext& m_context;
    std::unique_ptr<Ui::Donate> m_ui;
    QLabel* m_addressLabel = nullptr;
};
