// Shared ownership by counting, as the views and their pictures use it: a
// new object holds one reference; remember adds one, forget drops one and
// deletes the object with the last.
#pragma once

namespace gui {

class CReferenceCounter {
  public:
    CReferenceCounter() = default;
    CReferenceCounter(const CReferenceCounter&) = delete;
    CReferenceCounter& operator=(const CReferenceCounter&) = delete;

    void remember() { ++references_; }
    void forget() {
        if (--references_ == 0) delete this;
    }
    int getNbReference() const { return references_; }

  protected:
    virtual ~CReferenceCounter() = default;

  private:
    int references_ = 1;
};

}  // namespace gui
