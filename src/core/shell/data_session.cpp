#include "core/shell/data_session.hpp"

#include "core/store/store.hpp"

namespace zelvanor {

DataSession::DataSession(AppPaths paths) : paths_(std::move(paths)) {}

DataSession::~DataSession() = default;

Database& DataSession::mast() {
    if (!mast_) mast_ = std::make_unique<Database>(paths_.mastPath());
    return *mast_;
}

Database& DataSession::tran() {
    if (!tran_) tran_ = std::make_unique<Database>(paths_.tranPath());
    return *tran_;
}

void DataSession::close() {
    mast_.reset();
    tran_.reset();
}

}  // namespace zelvanor
