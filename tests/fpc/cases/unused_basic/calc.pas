unit Calc;
{$mode objfpc}
interface
function Square(A: Integer): Integer;
implementation
function Square(A: Integer): Integer; begin Result := A * A; end;
end.
