// A planted violation: the guarded-connect check must reject this file.
#include <QTimer>

void Planted(QTimer* timer) {
  QObject::connect(timer, &QTimer::timeout, [] { throw 1; });
}
