unit Plain;
{$mode objfpc}
interface
const
  PlainValue = 1;
implementation
end.
