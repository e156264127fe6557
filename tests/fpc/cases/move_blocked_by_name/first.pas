unit First;
{$mode objfpc}
interface
const
  Value = 100;
  FirstOnly = 10;
implementation
end.
