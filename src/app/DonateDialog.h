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
    enum class RunStyle { Regular, Bold, Italic };
    struct Run {
        QString text;
        RunStyle style;
    };

    static const QList<Run>& messageRuns();
    static QList<Run> addressTitleRuns(bool justCopied);
    // Centred 13-point rich text made of `runs`.
    static QString richText(const QList<Run>& runs);
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
    void setAddressTitle(bool justCopied);

    AppContext& m_context;
    std::unique_ptr<Ui::Donate> m_ui;
    QLabel* m_addressLabel = nullptr;
};
