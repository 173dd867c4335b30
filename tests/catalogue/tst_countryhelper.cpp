#include <QtTest>
class T : public QObject { Q_OBJECT
private Q_SLOTS:
 void placeholder() {}
};
QTEST_GUILESS_MAIN(T)
#include "tst_countryhelper.moc"
