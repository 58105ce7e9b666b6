#pragma once
// The serial port as the rest of the program sees it. TComPort implements it over a tty
// device; the simulated meter's in-process port implements it over a virtual wire.
#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <stdexcept>
#include <type_traits>

// A failed port operation: the operating system's error code (0 for the port's own errors)
// and its message text.
class PortError : public std::runtime_error {
public:
    PortError(const QString &message, int osCode = 0)
        : std::runtime_error(message.toStdString()), m_code(osCode) {}
    int code() const { return m_code; }
    QString message() const { return QString::fromStdString(what()); }

private:
    int m_code;
};

// Unwinds the running command without any message to the user.
class SilentAbort : public std::exception {
public:
    const char *what() const noexcept override { return "operation aborted"; }
};

// Runs a port operation whose failure the caller does not act on beyond its result: a port error
// or a silent abort ends the operation and nothing more (the port's error handler has been told).
// An operation without a result gives whether it ran through; one with a result gives it, or
// nullopt when it failed.
template <typename Operation>
auto quietly(Operation &&operation)
{
    using Result = std::invoke_result_t<Operation>;
    try {
        if constexpr (std::is_void_v<Result>) {
            operation();
            return true;
        } else {
            return std::optional<Result>(operation());
        }
    } catch (const SilentAbort &) {
    } catch (const PortError &) {
    }
    if constexpr (std::is_void_v<Result>)
        return false;
    else
        return std::optional<Result>();
}

namespace PortMessages {
inline const char *const ClosedPort = "Can't perform this operation on a closed port";
inline const char *const OpenPort = "Can't perform this operation on an open port";
inline const char *const Timeout = "Timeout";
}

class SerialPort {
public:
    using RxHandler = std::function<void()>;
    enum class ErrorAction { Raise, Abort };
    using ErrorHandler = std::function<ErrorAction(const PortError &)>;

    virtual ~SerialPort() = default;

    virtual QString deviceName() const = 0;
    // Only while closed; on an open port raises OpenPort and keeps the old name.
    virtual void setDeviceName(const QString &name) = 0;

    // Active := true. Opens exclusively, purges both queues, sets 9600 8N1 raw. Raises on failure,
    // leaving the port closed. Does nothing on an open port.
    virtual void open() = 0;
    // Active := false. Does nothing on a closed port.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Received bytes not yet read (including those the system holds that no event has reported).
    virtual int bytesWaiting() = 0;
    // Reads exactly n bytes; raises Timeout when fewer are there.
    virtual QByteArray read(int n) = 0;
    // Hands the bytes to the device and returns.
    virtual void write(const QByteArray &bytes) = 0;
    virtual void purgeInput() = 0;
    virtual void purgeOutput() = 0;

    // Receive handler: called on the user-interface thread when bytes have arrived, never while
    // that thread is busy, never overlapping. Setting none detaches it.
    virtual RxHandler rxHandler() const = 0;
    virtual void setRxHandler(RxHandler handler) = 0;

    // Called before a port error is raised; Abort turns it into a SilentAbort. Also called (without
    // a raise) when the device goes away while open, after the port has closed itself.
    void setErrorHandler(ErrorHandler handler) { m_errorHandler = std::move(handler); }
    // The error most recently raised or reported (so a caller that got a SilentAbort can still
    // tell why, for example a permission error on open).
    const PortError &lastError() const { return m_lastError; }

protected:
    [[noreturn]] void raise(const PortError &error) const
    {
        m_lastError = error;
        if (m_errorHandler && m_errorHandler(error) == ErrorAction::Abort)
            throw SilentAbort();
        throw error;
    }
    void report(const PortError &error) const
    {
        m_lastError = error;
        if (m_errorHandler)
            m_errorHandler(error);
    }

private:
    ErrorHandler m_errorHandler;
    mutable PortError m_lastError{QString()};
};
