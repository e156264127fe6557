unit Wrapper;
{$mode objfpc}
interface
const
  WrapperValue = 3;
implementation
uses
  Registry;
end.
