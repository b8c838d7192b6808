#include "ExceptionMessage.h"

#include "KestrinError.h"

#include <exception>
#include <new>

namespace {

QString internalFault(const QString& what)
{
    return QStringLiteral("Внутренняя ошибка программы: %1. Команда прервана.").arg(what);
}

} // namespace

QString messageOfCurrentException()
{
    try {
        throw;
    } catch (const KestrinError& error) {
        return error.message();
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception& error) {
        return internalFault(QString::fromUtf8(error.what()));
    } catch (...) {
        return internalFault(QStringLiteral("исключение неизвестного типа"));
    }
}
