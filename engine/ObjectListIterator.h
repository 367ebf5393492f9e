// Walks an ObjectList live: entries inserted or removed during the walk are
// seen by it.
#ifndef LK_OBJECT_LIST_ITERATOR_H
#define LK_OBJECT_LIST_ITERATOR_H

namespace lk {

class Object;
class ObjectList;

class ObjectListIterator {
 public:
  explicit ObjectListIterator(const ObjectList* p_list);

  void first();
  void next();
  bool isDone() const;
  Object* currentObject() const;

 private:
  const ObjectList* m_p_list;
  int m_index;
};

}  // namespace lk

#endif
