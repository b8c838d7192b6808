#include <QTest>
class TstTimeCostCurve : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(TstTimeCostCurve)
#include "tst_timecost_curve.moc"
