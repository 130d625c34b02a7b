// The registry of live printing objects and their reference counting.
#include "pm_object.h"

#include <mutex>
#include <unordered_set>

namespace printing {
namespace {

struct Registry {
    std::mutex mutex;
    std::unordered_set<const void *> live;
};

// Never destroyed: objects may still be released during static destruction.
Registry &registry() {
    static auto *instance = new Registry();
    return *instance;
}

}  // namespace

PrintingObject::PrintingObject(ObjectKind kind) : kind_(kind) {
    Registry &table = registry();
    std::lock_guard lock(table.mutex);
    table.live.insert(this);
}

PrintingObject::~PrintingObject() {
    Registry &table = registry();
    std::lock_guard lock(table.mutex);
    table.live.erase(this);
}

void PrintingObject::retain() { references_.fetch_add(1); }

void PrintingObject::release() {
    if (references_.fetch_sub(1) == 1) delete this;
}

PrintingObject *find_live(const void *reference) {
    if (reference == nullptr) return nullptr;
    Registry &table = registry();
    std::lock_guard lock(table.mutex);
    if (table.live.count(reference) == 0) return nullptr;
    return static_cast<PrintingObject *>(const_cast<void *>(reference));
}

}  // namespace printing
