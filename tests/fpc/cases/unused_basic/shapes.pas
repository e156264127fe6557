unit Shapes;
{$mode objfpc}
interface
uses
  Unrelated, Calc;
type
  TSide = Integer;
function Area(ASide: TSide): Integer;
implementation
function Area(ASide: TSide): Integer; begin Result := Square(ASide); end;
end.
