// Hash map from 32-bit ids to object pointers, used to register the graph's resources and
// passes. All nodes form one doubly linked list in which each bucket's nodes are contiguous;
// bucket b runs from buckets[b] up to (not including) buckets[b + 1], and the extra last
// element is the list's end. Lookups happen only while the graph is built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Fennick::gfx {

// Bytes of the zero-extended id, little-endian, each read as a signed 8-bit number.
inline std::uint64_t hashId(std::uint32_t id) {
    std::uint64_t wide = id;
    std::uint64_t h = 0;
    for (int i = 0; i < 8; ++i) {
        auto byte = static_cast<std::int8_t>(static_cast<std::uint8_t>(wide >> (8 * i)));
        h = h * 65599u + static_cast<std::uint64_t>(static_cast<std::int64_t>(byte));
    }
    return h;
}

template <class T> class IdMap {
public:
    struct Node {
        std::uint32_t key;
        T* value;
        Node* next;
        Node* prev;
    };

    class Iterator {
    public:
        explicit Iterator(Node* node) : node_(node) {}
        Node& operator*() const { return *node_; }
        Node* operator->() const { return node_; }
        Iterator& operator++() {
            node_ = node_->next;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return node_ != other.node_; }

    private:
        Node* node_;
    };

    IdMap() : buckets(kInitialElements, nullptr) {}
    IdMap(const IdMap&) = delete;
    IdMap& operator=(const IdMap&) = delete;
    ~IdMap() {
        for (Node* n = buckets[0]; n;) {
            Node* next = n->next;
            delete n;
            n = next;
        }
    }

    // The value slot of id, inserting a node with a null value first when id is absent.
    T*& findOrInsert(std::uint32_t id) {
        std::size_t b = bucketOf(id);
        for (Node* n = buckets[b]; n != buckets[b + 1]; n = n->next)
            if (n->key == id)
                return n->value;
        Node* node = new Node{id, nullptr, nullptr, nullptr};
        link(node, b);
        ++count;
        if (count + 1 > 4 * buckets.size())
            grow();
        return node->value;
    }

    // Null when id is not registered.
    T* find(std::uint32_t id) const {
        std::size_t b = bucketOf(id);
        for (Node* n = buckets[b]; n != buckets[b + 1]; n = n->next)
            if (n->key == id)
                return n->value;
        return nullptr;
    }

    std::size_t bucketCount() const { return buckets.size() - 1; }

    Iterator begin() const { return Iterator(buckets[0]); }
    Iterator end() const { return Iterator(nullptr); }

    std::uint64_t count = 0;

private:
    static constexpr std::size_t kInitialElements = 9; // 8 buckets

    std::size_t bucketOf(std::uint32_t id) const {
        return static_cast<std::size_t>(hashId(id) & (buckets.size() - 2));
    }

    // Links node at the end of bucket b.
    void link(Node* node, std::size_t b) {
        Node* end = buckets[b + 1];
        if (end) {
            node->next = end;
            node->prev = end->prev;
            if (end->prev)
                end->prev->next = node;
            end->prev = node;
        } else {
            Node* tail = nullptr;
            for (std::size_t i = b + 1; i-- > 0;)
                if (buckets[i]) {
                    tail = buckets[i];
                    break;
                }
            while (tail && tail->next)
                tail = tail->next;
            node->prev = tail;
            node->next = nullptr;
            if (tail)
                tail->next = node;
        }
        // Every element that pointed at the old end of bucket b (bucket b itself when empty,
        // and the empty buckets before it) now starts at the new node.
        for (std::size_t i = b + 1; i-- > 0;) {
            if (buckets[i] != end)
                break;
            buckets[i] = node;
        }
    }

    void grow() {
        std::vector<Node*> order;
        order.reserve(static_cast<std::size_t>(count));
        for (Node* n = buckets[0]; n; n = n->next)
            order.push_back(n);
        buckets.assign(8 * buckets.size() - 7, nullptr);
        for (Node* n : order)
            link(n, bucketOf(n->key));
    }

    std::vector<Node*> buckets;
};

} // namespace Fennick::gfx
