unit Second;
{$mode objfpc}
interface
type
  TSecondNumber = Integer;
const
  Value = 200;
implementation
end.
