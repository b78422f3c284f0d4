#pragma once

namespace brindle {

// A document's client-side result set.
class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // 0 while closed, 1 while open.
    int State() const { return m_open ? 1 : 0; }
    // Fails with an Error while already closed.
    void Close();

private:
    bool m_open = false;
};

} // namespace brindle
