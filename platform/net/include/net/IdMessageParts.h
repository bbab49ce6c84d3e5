#pragma once

// The parts of a message, in order, owned by the list.

#include <net/IdMessagePart.h>

#include <memory>
#include <vector>

namespace net {

class TIdMessageParts {
  public:
    int Count() const { return static_cast<int>(m_parts.size()); }
    // Part i, counted from 0 (std::out_of_range outside).
    TIdMessagePart& Items(int i) { return *m_parts.at(i); }
    const TIdMessagePart& Items(int i) const { return *m_parts.at(i); }
    void Clear() { m_parts.clear(); }

    // Appends a part and returns it.
    template <class T> T& Add(std::unique_ptr<T> part) {
        T& ref = *part;
        m_parts.push_back(std::move(part));
        return ref;
    }

  private:
    std::vector<std::unique_ptr<TIdMessagePart>> m_parts;
};

} // namespace net
