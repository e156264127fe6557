unit Boxes;
{$mode objfpc}
interface
type
  generic TBox<T> = class
    Item: T;
  end;
implementation
end.
