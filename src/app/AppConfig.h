#pragma once

#include <QString>

// Values the makers set: where feedback and donations go.
namespace AppConfig {

inline const QString desktopFileId = QStringLiteral("org.sleevanta.Sleevanta");
inline const QString supportAddress = QStringLiteral("support@sleevanta.org");
inline const QString donationAccount = QStringLiteral("donate@sleevanta.org");
// 42 characters, like every native SegWit address.
inline const QString bitcoinAddress = QStringLiteral("bc1qsleevantadonationsq7x2m4k9p3w8e5r6t0yz");
inline const QString build = QStringLiteral(SLEEVANTA_BUILD);

} // namespace AppConfig
