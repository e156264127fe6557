{$mode objfpc}
unit ZetaOps;

interface

uses Points;

operator + (const A, B: TPt): TPt;
operator := (const N: Integer): TPt;

implementation

operator + (const A, B: TPt): TPt;
begin
  Result.X := A.X + B.X + 1;
end;

operator := (const N: Integer): TPt;
begin
  Result.X := N * 2;
end;

end.
