#pragma once
// Readers of the live frames (a monitor) are told when a command takes the port from the live link
// for longer than a key press (a download, a recall, a set-up exchange) and when it gives it back,
// so they can note the gap with its reason instead of the command being refused.
#include <QString>

#include <functional>

class PortLoans {
public:
    // Called when the first of nested loans begins, with its reason.
    std::function<void(const QString &reason)> lent;
    // Called when the last of nested loans ends.
    std::function<void()> returned;

    void begin(const QString &reason)
    {
        if (m_depth++ == 0 && lent)
            lent(reason);
    }
    void end()
    {
        if (m_depth > 0 && --m_depth == 0 && returned)
            returned();
    }
    bool active() const { return m_depth > 0; }

private:
    int m_depth = 0;
};

// One loan for the lifetime of the scope, however the scope is left.
class PortLoan {
public:
    PortLoan(PortLoans &loans, const QString &reason) : m_loans(loans) { m_loans.begin(reason); }
    ~PortLoan() { m_loans.end(); }
    PortLoan(const PortLoan &) = delete;
    PortLoan &operator=(const PortLoan &) = delete;

private:
    PortLoans &m_loans;
};
