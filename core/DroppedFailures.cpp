#include "core/DroppedFailures.h"

#include "core/PlatformError.h"

#include <exception>

Q_LOGGING_CATEGORY(lcDroppedFailures, "numbrella.failures", QtWarningMsg)

void noteDroppedFailure(const char* where) noexcept
{
    if (!lcDroppedFailures().isInfoEnabled())
        return;
    try {
        try {
            throw;
        } catch (const PlatformError& error) {
            qCInfo(lcDroppedFailures).noquote().nospace()
                << where << ": " << error.operation() << ": " << error.reason()
                << (error.code() != 0 ? QStringLiteral(" (%1)").arg(error.code()) : QString());
        } catch (const std::exception& error) {
            qCInfo(lcDroppedFailures).noquote().nospace() << where << ": " << error.what();
        } catch (...) {
            qCInfo(lcDroppedFailures).noquote().nospace() << where << ": an unknown failure";
        }
    } catch (...) {
        // Writing the trace failed as well; the program goes on as it would have.
    }
}
